// Assembler directives for data pulled into a program with .incbin, for
// the two object formats the programs are built as: ELF everywhere but
// Windows, COFF there. COFF has no symbol types, sizes or visibility, and
// names its read-only sections .rdata$NAME.
#pragma once

#if defined(_WIN32)
#define TORVELIN_ASM_READONLY(name) ".section .rdata$" name ",\"dr\"\n"
#define TORVELIN_ASM_HIDDEN(label) ""
#define TORVELIN_ASM_OBJECT(label, size) ""
// The compiler's own code and data follow in .text and sections it names.
#define TORVELIN_ASM_BACK ".text\n"
#else
#define TORVELIN_ASM_READONLY(name) ".section .rodata." name ",\"a\",@progbits\n"
#define TORVELIN_ASM_HIDDEN(label) ".hidden " label "\n"
#define TORVELIN_ASM_OBJECT(label, size) ".type " label ", @object\n.size " label ", " size "\n"
#define TORVELIN_ASM_BACK ".previous\n"
#endif
