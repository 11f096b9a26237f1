# Builds the Debian package into a scratch folder and checks what it holds: the program, the tool,
# the udev rule, the copyright file, the logger service with its environment file (a conffile), a
# Maintainer field with an address, and a postinst that reloads the udev rules only where a udev
# daemon runs, creates the service's system user in the transducer's group and never enables or
# starts the service.
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
    ./usr/lib/systemd/system/qmx80net-logger.service
    ./etc/default/qmx80net-logger
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
# The environment file survives upgrades with the user's changes.
file(READ ${WORK_DIR}/control/conffiles conffiles)
if(NOT conffiles MATCHES "(^|\n)/etc/default/qmx80net-logger\n")
  fail("the environment file is not a conffile: '${conffiles}'")
endif()

# The unit as packaged: the packaged tool, its options from the environment file, the system user.
execute_process(COMMAND dpkg-deb -x ${deb} ${WORK_DIR}/root RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  fail("dpkg-deb -x failed")
endif()
file(READ ${WORK_DIR}/root/usr/lib/systemd/system/qmx80net-logger.service unit)
foreach(line
    "EnvironmentFile=-/etc/default/qmx80net-logger"
    "ExecStart=/usr/bin/qmx80net-cli record $QMX_LOGGER_ARGS"
    "User=qmx80net"
    "WantedBy=multi-user.target")
  string(FIND "${unit}" "\n${line}\n" at)
  if(at EQUAL -1)
    fail("the unit lacks '${line}':\n${unit}")
  endif()
endforeach()
file(READ ${WORK_DIR}/root/etc/default/qmx80net-logger environment)
if(NOT environment MATCHES "\nQMX_LOGGER_ARGS=\"--dir [^\"\n]+\"\n")
  fail("the environment file sets no QMX_LOGGER_ARGS with --dir:\n${environment}")
endif()

# The postinst runs with stand-ins that only note their arguments: no user qmx80net exists yet,
# the group plugdev does.
file(MAKE_DIRECTORY ${WORK_DIR}/fakebin)
file(WRITE ${WORK_DIR}/fakebin/udevadm "#!/bin/sh\necho \"$*\" >> ${WORK_DIR}/udevadm.log\n")
file(WRITE ${WORK_DIR}/fakebin/getent
     "#!/bin/sh\nif [ \"$1 $2\" = \"group plugdev\" ]; then echo plugdev:x:46:; exit 0; fi\nexit 2\n")
foreach(tool adduser useradd usermod systemctl)
  file(WRITE ${WORK_DIR}/fakebin/${tool} "#!/bin/sh\necho \"${tool} $*\" >> ${WORK_DIR}/accounts.log\n")
endforeach()
foreach(tool udevadm getent adduser useradd usermod systemctl)
  file(CHMOD ${WORK_DIR}/fakebin/${tool} PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
endforeach()
execute_process(COMMAND ${CMAKE_COMMAND} -E env "PATH=${WORK_DIR}/fakebin:/usr/bin:/bin"
                        sh ${WORK_DIR}/control/postinst configure
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  fail("postinst configure failed: ${out}${err}")
endif()
set(accounts "")
if(EXISTS ${WORK_DIR}/accounts.log)
  file(READ ${WORK_DIR}/accounts.log accounts)
endif()
if(NOT accounts MATCHES "(adduser --system [^\n]*qmx80net|useradd --system [^\n]*qmx80net)\n")
  fail("postinst did not create the system user qmx80net: '${accounts}'")
endif()
if(NOT accounts MATCHES "usermod --append --groups plugdev qmx80net\n")
  fail("postinst did not put qmx80net in the group plugdev: '${accounts}'")
endif()
if(accounts MATCHES "systemctl [^\n]*(enable|start)")
  fail("postinst enabled or started the logger service: '${accounts}'")
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
