# Run by CPack after it has made the release zip: the zip is written again with one fixed time
# on every entry and no extra fields (which carry the files' access and change times), so that
# two builds of the same sources give the same zip, byte for byte. The time is
# SOURCE_DATE_EPOCH's when that is set, else 1980-01-01, the first that a zip holds.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(epoch $ENV{SOURCE_DATE_EPOCH})
else()
  set(epoch 315532800)
endif()
find_program(VORN_PYTHON NAMES python3 REQUIRED)
foreach(zip IN LISTS CPACK_PACKAGE_FILES)
  execute_process(COMMAND ${VORN_PYTHON} -c "
import sys, time, zipfile
path, epoch = sys.argv[1], int(sys.argv[2])
stamp = time.gmtime(max(epoch, 315532800))[:6]
with zipfile.ZipFile(path) as source:
    entries = [(info, source.read(info)) for info in source.infolist()]
with zipfile.ZipFile(path, 'w', zipfile.ZIP_DEFLATED) as target:
    for info, data in sorted(entries, key=lambda entry: entry[0].filename):
        fixed = zipfile.ZipInfo(info.filename, stamp)
        fixed.external_attr = info.external_attr
        fixed.create_system = 3
        fixed.compress_type = zipfile.ZIP_DEFLATED
        target.writestr(fixed, data, compresslevel=9)
" ${zip} ${epoch} RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "cannot write ${zip} again with fixed times")
  endif()
endforeach()
