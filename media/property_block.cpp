// The one property block of the program, with the defaults of this edition.
//
// The block lives in its own translation unit as non-const initialised data, so its bytes appear
// contiguously and unchanged in the executable file where the builder finds and patches them.
// Readers go through Block(), which hides the block's address from the optimiser: no field is
// ever folded into a constant, so a patched executable shows its patched bytes.
//
// The marker text is spelled only here; anything that needs it reads Block().Marker, so the text
// occurs exactly once in the program file.
#include "media/property_block.h"

namespace kv {

namespace {

[[gnu::used]] PropertyBlock gPropertyBlock = {
    .Marker = "VOSK'S TOOL",
    .BuildMode = "BUILDMODE=0",
    .Name = "Krell-Vane Media Check",
    .Date = "2004/02/19",
    .Major = "3",
    .Minor = "1",
    .Rev = "7",
    .Model = "for ORVELIX CD-RW, COMBO, DVD Writer",
    .Remark =
        "    Buffer-underrun protection is always active on ORVELIX\n"
        "CD-RW, COMBO and DVD writers. Before you burn, this program\n"
        "checks the quality of your CD-R/RW, DVD-R/RW or DVD+R/RW\n"
        "media and sets a burning speed limit from what it finds, so\n"
        "the drive will burn no faster than the \"KRELL-VANE Speed\n"
        "Limit\" shown on your screen.\n"
        "\n"
        "    Once the manufacturer of the media has been identified,\n"
        "the drive uses a writing strategy dedicated to those media\n"
        "and runs an optimal power calibration before it writes, for\n"
        "the best possible quality of the recording.\n"
        "\n"
        "    All brand names and trademarks belong to their respective\n"
        "owners. The result shown is only a reference for you and has\n"
        "no commercial value of any kind.\n",
    .Step1 = "Select a target CD-RW/COMBO/DVD Writer",
    .Step2 =
        "Insert your CD-R/RW or DVD+R/+RW/-R/-RW media into target drive, then click \"?\" "
        "button to see information about this media and what is the maximum burning speed "
        "that KRELL-VANE set base on the information",
    .Step3 = "The information of this media as :",
    .Copyright = "Copyright (C) 2004 ORVELIX Media. All rights reserved.",
    .CdTable = {},
    .DvdTable = {},
};

}  // namespace

const PropertyBlock& Block() {
  const PropertyBlock* block = &gPropertyBlock;
  // An empty barrier: the compiler must assume the pointer came from anywhere, so every field is
  // read from memory at run time.
  asm volatile("" : "+r"(block));
  return *block;
}

bool IsBuildMode() {
  return Block().BuildMode[block_offset::kBuildFlag - block_offset::kBuildMode] == '1';
}

}  // namespace kv
