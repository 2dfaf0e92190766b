# The JUnit file of a validate run parses as XML and names every check, with the failures marked.
execute_process(COMMAND ${HOST} validate ${MODULE} --seed 7 --timeout ${TIMEOUT} --junit ${JUNIT} OUTPUT_QUIET ERROR_QUIET)
execute_process(COMMAND ${HOST} validate --list OUTPUT_VARIABLE listing)
string(REGEX MATCHALL "(^|\n)[a-z-]+" ids "${listing}")
list(TRANSFORM ids STRIP)
string(JOIN "," expected ${ids})
execute_process(COMMAND ${PYTHON} -c "
import sys, xml.etree.ElementTree as ET
suite = ET.parse(sys.argv[1]).getroot().find('testsuite')
names = [case.get('name') for case in suite.iter('testcase')]
failed = [case.get('name') for case in suite.iter('testcase') if case.find('failure') is not None]
assert names == sys.argv[2].split(','), names
assert int(suite.get('tests')) == len(names) and int(suite.get('failures')) == len(failed) > 0
# The reasons come through whole, and the suite's time is the sum of its cases'.
messages = ' '.join(case.find('failure').get('message') for case in suite.iter('testcase') if case.find('failure') is not None)
assert 'blocks the module allocated were still held after delete' in messages, messages
skipped = [case.get('name') for case in suite.iter('testcase') if case.find('skipped') is not None]
assert int(suite.get('skipped')) == len(skipped) and set(skipped).isdisjoint(failed), (suite.get('skipped'), skipped)
times = [float(case.get('time')) for case in suite.iter('testcase')]
assert abs(float(suite.get('time')) - sum(times)) < 0.01 and float(suite.get('time')) >= max(times) > 0, (suite.get('time'), times)
print('JUnit:', len(names), 'checks,', len(failed), 'failures:', ' '.join(failed))
" ${JUNIT} ${expected} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${out}${err}")
endif()
message("${out}")

# A skipped check is marked so, and counted.
execute_process(COMMAND ${HOST} validate ${SKIPPING_MODULE} --include instances-separate --junit ${JUNIT}
  OUTPUT_QUIET ERROR_QUIET)
execute_process(COMMAND ${PYTHON} -c "
import sys, xml.etree.ElementTree as ET
suite = ET.parse(sys.argv[1]).getroot().find('testsuite')
skipped = [case for case in suite.iter('testcase') if case.find('skipped') is not None]
assert int(suite.get('skipped')) == len(skipped) == 1, suite.get('skipped')
assert 'control events not exercised' in skipped[0].find('skipped').get('message')
" ${JUNIT} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${out}${err}")
endif()
