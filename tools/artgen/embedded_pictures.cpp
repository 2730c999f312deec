// The generated pictures, assembled into read-only data back to back in
// the program's order. The assembler reads the files directly, so no giant
// array initializer goes through the compiler.
#include <cstddef>

#include "core/asm_data.hpp"
#include "driver/pictures.hpp"

static_assert(sizeof(std::size_t) == 8, "the size table below is written as 64-bit words");

#define TORVELIN_PICTURE(label, file) \
  ".globl " label "\n" TORVELIN_ASM_HIDDEN(label) label ":\n.incbin \"" TORVELIN_PICTURE_DIR "/" file "\"\n"

asm(TORVELIN_ASM_READONLY("torvelin_pictures")
    ".balign 16\n"
    TORVELIN_PICTURE("torvelin_picture_0", "characters.pbm")
    TORVELIN_PICTURE("torvelin_picture_1", "titlecard.ppm")
    TORVELIN_PICTURE("torvelin_picture_2", "scroller_font.ppm")
    TORVELIN_PICTURE("torvelin_picture_3", "tiles.ppm")
    TORVELIN_PICTURE("torvelin_picture_4", "bobs.ppm")
    TORVELIN_PICTURE("torvelin_picture_5", "logo.pbm")
    TORVELIN_PICTURE("torvelin_picture_6", "sparkles.pgm")
    TORVELIN_PICTURE("torvelin_picture_7", "strip.pbm")
    "torvelin_pictures_end:\n"
    ".balign 8\n"
    ".globl TORVELINPictureSizes\n"
    "TORVELINPictureSizes:\n"
    ".quad torvelin_picture_1 - torvelin_picture_0\n"
    ".quad torvelin_picture_2 - torvelin_picture_1\n"
    ".quad torvelin_picture_3 - torvelin_picture_2\n"
    ".quad torvelin_picture_4 - torvelin_picture_3\n"
    ".quad torvelin_picture_5 - torvelin_picture_4\n"
    ".quad torvelin_picture_6 - torvelin_picture_5\n"
    ".quad torvelin_picture_7 - torvelin_picture_6\n"
    ".quad torvelin_pictures_end - torvelin_picture_7\n"
    TORVELIN_ASM_BACK);

extern "C" const unsigned char torvelin_picture_0[], torvelin_picture_1[], torvelin_picture_2[],
    torvelin_picture_3[], torvelin_picture_4[], torvelin_picture_5[], torvelin_picture_6[], torvelin_picture_7[];

const unsigned char* const TORVELINPictures[TORVELINPictureCount] = {
    torvelin_picture_0, torvelin_picture_1, torvelin_picture_2, torvelin_picture_3,
    torvelin_picture_4, torvelin_picture_5, torvelin_picture_6, torvelin_picture_7,
};
