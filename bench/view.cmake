# Bar timing and layout of generated music, against pugixml's walk over the
# same file reading two attributes per element.
zolva_add_bench(bench_layout
  SOURCES bench_layout.cpp
  LIBS zolva::view pugixml::pugixml)

# One paint of a full client area, short piece against the middle of a long one.
zolva_add_bench(bench_paint
  SOURCES bench_paint.cpp
  LIBS zolva::view)

# The visible range and Page Down in the middle of a crowded 100k piece laid
# out with fixed measure sizes, against the walks over the whole list.
zolva_add_bench(bench_visible_range
  SOURCES bench_visible_range.cpp
  LIBS zolva::view)

# File > Export Sheet of three A4 pages: the PDF's time and size, and the
# time of a PNG page at 300 dpi, each against its goal.
zolva_add_bench(bench_sheet
  SOURCES bench_sheet.cpp
  LIBS zolva::view)
