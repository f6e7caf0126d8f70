# Writes a C++ source holding every bitmaps/NNN-*.bmp of DIR as a byte array,
# with the table through which the GDI stand-in's LoadBitmapA finds them.
# Usage: cmake -DDIR=<bitmaps dir> -DOUT=<file.cpp> -P embed-bitmaps.cmake
file(GLOB files ${DIR}/*.bmp)
list(SORT files)
set(arrays "")
set(entries "")
foreach(f IN LISTS files)
  get_filename_component(name ${f} NAME)
  string(REGEX MATCH "^[0-9]+" id ${name})
  file(READ ${f} hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(APPEND arrays "const unsigned char bitmap${id}[] = {${bytes}};\n")
  string(APPEND entries "    {${id}, bitmap${id}, sizeof bitmap${id}},\n")
endforeach()
if(entries STREQUAL "")
  set(entries "    {0, nullptr, 0},\n")
endif()
file(WRITE ${OUT}.tmp
"// Generated from resources/bitmaps at build time.
#include \"platform/posix/GdiResources.h\"

namespace {
${arrays}}

namespace platform {
namespace gdi {
const BitmapResource moduleBitmaps[] = {
${entries}};
const int moduleBitmapCount = sizeof moduleBitmaps / sizeof moduleBitmaps[0];
}  // namespace gdi
}  // namespace platform
")
file(RENAME ${OUT}.tmp ${OUT})
