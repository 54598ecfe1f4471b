# Draws the program icon and writes it as resource statements (an icon group with a
# 32 and a 16 pixel image, 32 bits with alpha), so that no binary file is kept in the
# sources. Run as: cmake -DOUTPUT=<file.rc> -P MakeIcon.cmake
#
# The picture: a navy disc with a white rim and a compass needle, orange to the north.

if(NOT OUTPUT)
  message(FATAL_ERROR "OUTPUT not given")
endif()

# Colour of pixel (x, y), y counted from the top, as 0xAARRGGBB in out_var.
function(icon_pixel n x y out_var)
  # Doubled coordinates around the centre keep everything in whole numbers.
  math(EXPR u "2 * ${x} + 1 - ${n}")
  math(EXPR v "2 * ${y} + 1 - ${n}")
  math(EXPR r2 "${u} * ${u} + ${v} * ${v}")
  math(EXPR outer "(${n} - 1) * (${n} - 1)")
  math(EXPR rim "${n} / 8")
  math(EXPR innerRadius "${n} - 1 - ${rim}")
  math(EXPR inner "${innerRadius} * ${innerRadius}")
  math(EXPR needle "${innerRadius} - ${n} / 8")
  if(u LESS 0)
    math(EXPR au "-${u}")
  else()
    set(au ${u})
  endif()
  if(v LESS 0)
    math(EXPR av "-${v}")
  else()
    set(av ${v})
  endif()
  math(EXPR diamond "${au} * 3 + ${av}")
  if(r2 GREATER outer)
    set(c 0x00000000)
  elseif(r2 GREATER inner)
    set(c 0xFFFFFFFF)
  elseif(NOT diamond GREATER needle)
    if(v LESS 0)
      set(c 0xFFF5A623)
    else()
      set(c 0xFFFFFFFF)
    endif()
  else()
    set(c 0xFF1F3A68)
  endif()
  set(${out_var} ${c} PARENT_SCOPE)
endfunction()

# Resource data of one icon image: header, colour rows bottom-up, transparency mask.
function(icon_image n out_var out_size)
  math(EXPR doubleHeight "2 * ${n}")
  math(EXPR colourBytes "${n} * ${n} * 4")
  # Mask rows are padded to 32 bits.
  math(EXPR maskRowBytes "((${n} + 31) / 32) * 4")
  math(EXPR maskBytes "${maskRowBytes} * ${n}")
  math(EXPR size "40 + ${colourBytes} + ${maskBytes}")
  set(text "  40L, ${n}L, ${doubleHeight}L, 1, 32, 0L, ${colourBytes}L, 0L, 0L, 0L, 0L,\n")
  math(EXPR last "${n} - 1")
  set(maskText "")
  foreach(row RANGE ${last})
    math(EXPR y "${last} - ${row}")
    set(line " ")
    set(bits 0)
    set(maskWords "")
    set(word 0)
    set(wordBits 0)
    foreach(x RANGE ${last})
      icon_pixel(${n} ${x} ${y} c)
      string(APPEND line " ${c}L,")
      # Mask bit 1 = transparent; the first pixel is the high bit of the first byte, and
      # two bytes make one little-endian word.
      if(c STREQUAL "0x00000000")
        math(EXPR byteIndex "(${x} / 8) % 2")
        math(EXPR bit "7 - ${x} % 8 + 8 * ${byteIndex}")
        math(EXPR word "${word} | (1 << ${bit})")
      endif()
      math(EXPR wordBits "${wordBits} + 1")
      if(wordBits EQUAL 16)
        string(APPEND maskWords " ${word},")
        set(word 0)
        set(wordBits 0)
      endif()
    endforeach()
    if(NOT wordBits EQUAL 0)
      string(APPEND maskWords " ${word},")
    endif()
    # Pad the row to 32 bits.
    math(EXPR rowWords "(${n} + 15) / 16")
    math(EXPR padWords "${maskRowBytes} / 2 - ${rowWords}")
    if(padWords GREATER 0)
      foreach(i RANGE 1 ${padWords})
        string(APPEND maskWords " 0,")
      endforeach()
    endif()
    string(APPEND text "${line}\n")
    string(APPEND maskText " ${maskWords}\n")
  endforeach()
  string(APPEND text "${maskText}")
  # No comma after the last item.
  string(REGEX REPLACE ",\n$" "\n" text "${text}")
  set(${out_var} "${text}" PARENT_SCOPE)
  set(${out_size} ${size} PARENT_SCOPE)
endfunction()

icon_image(32 image32 size32)
icon_image(16 image16 size16)

# RT_GROUP_ICON (14) names the images of RT_ICON (3): width and height bytes, colour count
# and reserved bytes, planes, bits, size, image id.
file(WRITE ${OUTPUT} "// Written by MakeIcon.cmake.
1 14
BEGIN
  0, 1, 2,
  0x2020, 0, 1, 32, ${size32}L, 1,
  0x1010, 0, 1, 32, ${size16}L, 2
END

1 3
BEGIN
${image32}END

2 3
BEGIN
${image16}END
")
