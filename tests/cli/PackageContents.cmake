# Builds the Debian package into a scratch folder and checks what it holds: the program, the tool,
# the udev rule, the copyright file, a Maintainer field with an address, and a postinst that
# reloads the udev rules only where a udev daemon runs.
#
# Run by ctest as: cmake -DCPACK=... -DBUILD_DIR=... -DWORK_DIR=... -P PackageContents.cmake

function(fail message)
  message(FATAL_ERROR "${message}")
endfunction()

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
execute_process(COMMAND ${CPACK} -G DEB -B ${WORK_DIR} --config ${BUILD_DIR}/CPackConfig.cmake
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  fail("cpack failed: ${out}${err}")
endif()
file(GLOB deb ${WORK_DIR}/qmx80net-pc_*.deb)
list(LENGTH deb count)
if(NOT count EQUAL 1)
  fail("expected one package in ${WORK_DIR}, found: ${deb}")
endif()

execute_process(COMMAND dpkg-deb -c ${deb} OUTPUT_VARIABLE contents RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  fail("dpkg-deb -c failed")
endif()
foreach(path
    ./usr/bin/qmx80net-cli
    ./usr/bin/qmx80net-pc
    ./usr/lib/qmx80net-pc/qmx80net-pc
    ./usr/lib/qmx80net-pc/QMX80NET_instrukcja.mht
    ./usr/lib/qmx80net-pc/QMX80NET_manual_en.mht
    ./usr/lib/udev/rules.d/70-qmx80net.rules
    ./usr/share/doc/qmx80net-pc/copyright)
  string(FIND "${contents}" " ${path}" at)
  if(at EQUAL -1)
    fail("${path} is not in the package:\n${contents}")
  endif()
endforeach()
# Nothing of the preferences travels in the package.
string(FIND "${contents}" "config.ini" at)
if(NOT at EQUAL -1)
  fail("the package holds a config.ini:\n${contents}")
endif()

execute_process(COMMAND dpkg-deb -I ${deb} OUTPUT_VARIABLE info RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  fail("dpkg-deb -I failed")
endif()
if(NOT info MATCHES "\n Maintainer: [^\n<]+ <[^@>\n]+@[^>\n]+>\n")
  fail("no Maintainer with an address:\n${info}")
endif()
# dpkg-deb marks executable control members with a "*".
if(NOT info MATCHES "\\*  postinst ")
  fail("no executable postinst:\n${info}")
endif()

# The postinst, run with a udevadm that only notes its arguments.
execute_process(COMMAND dpkg-deb -e ${deb} ${WORK_DIR}/control RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  fail("dpkg-deb -e failed")
endif()
file(MAKE_DIRECTORY ${WORK_DIR}/fakebin)
file(WRITE ${WORK_DIR}/fakebin/udevadm "#!/bin/sh\necho \"$*\" >> ${WORK_DIR}/udevadm.log\n")
file(CHMOD ${WORK_DIR}/fakebin/udevadm PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
execute_process(COMMAND ${CMAKE_COMMAND} -E env "PATH=${WORK_DIR}/fakebin:/usr/bin:/bin"
                        sh ${WORK_DIR}/control/postinst configure
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  fail("postinst configure failed: ${out}${err}")
endif()
set(log "")
if(EXISTS ${WORK_DIR}/udevadm.log)
  file(READ ${WORK_DIR}/udevadm.log log)
endif()
if(EXISTS /run/udev/control)
  # A udev daemon runs here: the rules are reloaded, then the hidraw nodes replayed.
  if(NOT log MATCHES "^control --reload-rules\ntrigger [^\n]*--subsystem-match=hidraw")
    fail("postinst did not reload the udev rules: '${log}'")
  endif()
else()
  # As in a chroot or a container: no udev daemon, so udevadm is left alone.
  if(NOT log STREQUAL "")
    fail("postinst called udevadm without a udev daemon: '${log}'")
  endif()
endif()
file(REMOVE_RECURSE ${WORK_DIR})
