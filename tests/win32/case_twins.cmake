# Makes FOLDER afresh with names that differ only in case, and names that
# Win32's path rules would change, which Wine's own calls cannot make.
file(REMOVE_RECURSE "${FOLDER}")
file(MAKE_DIRECTORY "${FOLDER}")
foreach(name IN ITEMS "readme.txt" "README.TXT" "Case Twin Report.txt" "CASE TWIN REPORT.TXT"
    "ends in a dot." "ends in a space ")
  file(TOUCH "${FOLDER}/${name}")
endforeach()
