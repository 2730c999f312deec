/* The C++ runtime linked into the Linux tarball's programs was built
   against a C library that has arc4random (2.36), which its random device
   calls. The programs promise to run on 2.34: they carry their own, from
   the kernel's generator (getrandom, since 2.25). */
#include <errno.h>
#include <stdint.h>
#include <sys/random.h>

uint32_t arc4random(void) {
  uint32_t value = 0;
  ssize_t got;
  do
    got = getrandom(&value, sizeof value, 0);
  while (got != (ssize_t)sizeof value && (got >= 0 || errno == EINTR));
  return value;
}
