# Fetches a Debian source package into BUILD_FOLDER/<package>-source and
# unpacks it with Debian's patches applied in order, through a sources list
# of the build folder's own (the system's lists are left alone). Sourced by
# the scripts that cross-build a library for Windows:
#   debian_source BUILD_FOLDER PACKAGE     prints the unpacked folder
# An unpacked source is reused.

# The Debian mirror this machine installs from, for the deb-src line.
debian_mirror() {
  local url
  url=$(grep -hsE '^(URIs:|deb )' /etc/apt/sources.list /etc/apt/sources.list.d/*.sources \
          /etc/apt/sources.list.d/*.list 2>/dev/null |
        grep -oE 'https?://[^ ]+/debian/?( |$)' | head -n 1 | tr -d ' ')
  echo "${url:-http://deb.debian.org/debian}"
}

debian_source() {
  local win=$1 package=$2
  local sources=$win/$package-source apt_dir=$win/apt
  local source_dir
  source_dir=$(find "$sources" -maxdepth 1 -mindepth 1 -type d -name "$package-*" 2>/dev/null | head -n 1)
  if [ -n "$source_dir" ]; then echo "$source_dir"; return; fi
  mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$sources"
  echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $(debian_mirror) bookworm main" \
    >"$apt_dir/sources.list"
  local private_apt=(-o "Dir::Etc::SourceList=$apt_dir/sources.list" -o Dir::Etc::SourceParts=/dev/null
                     -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache")
  echo "fetching the source package $package" >&2
  [ -n "$(ls "$apt_dir/lists" 2>/dev/null | grep -v partial)" ] || apt-get -qq "${private_apt[@]}" update >&2
  (cd "$sources" && apt-get -qq "${private_apt[@]}" source --download-only "$package" 2>&1 |
     grep -v "unsandboxed as root" >&2 || true)
  local dsc
  dsc=$(ls "$sources/${package}"_*.dsc | head -n 1)
  # apt has checked the files against the archive's signed index. Unpacked
  # without dpkg-source's own patching: the series is applied below.
  (cd "$sources" && dpkg-source --skip-patches -x "$dsc" >"$sources/unpack.log" 2>&1)
  source_dir=$(find "$sources" -maxdepth 1 -mindepth 1 -type d -name "$package-*" | head -n 1)
  if [ -f "$source_dir/debian/patches/series" ]; then
    local patch
    while read -r patch _; do
      case $patch in '' | '#'*) continue ;; esac
      patch -d "$source_dir" -p1 -s --forward <"$source_dir/debian/patches/$patch" >&2
    done <"$source_dir/debian/patches/series"
  fi
  echo "$source_dir"
}
