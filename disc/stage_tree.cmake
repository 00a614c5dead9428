# cmake -DTREE=<folder> "-DFILES=<path in tree>=<source>;..." -P stage_tree.cmake
# Makes TREE anew with exactly these files, then the stamp TREE/.staged.
file(REMOVE_RECURSE "${TREE}")
foreach(entry IN LISTS FILES)
  string(FIND "${entry}" "=" eq)
  string(SUBSTRING "${entry}" 0 ${eq} rel)
  math(EXPR from "${eq} + 1")
  string(SUBSTRING "${entry}" ${from} -1 src)
  get_filename_component(dir "${TREE}/${rel}" DIRECTORY)
  file(MAKE_DIRECTORY "${dir}")
  file(COPY_FILE "${src}" "${TREE}/${rel}")
endforeach()
file(TOUCH "${TREE}/.staged")
