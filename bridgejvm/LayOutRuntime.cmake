# cmake -DBIN=<build bin folder> -DHOME=<runtime folder> [-DJDK=<Linux JDK>] -P LayOutRuntime.cmake
# Lays out a bridge runtime: the folder a launcher finds as a Java home. Its
# Linux Java is the build's (bin/bridgejvm.ini), or JDK's bin/java, whose
# release file then becomes the runtime's. bin\java.exe, and where the
# Linux Java has a base archive (lib/server/classes.jsa) classes.jsa beside
# each jvm.dll, are empty files where a Windows runtime has them.
file(MAKE_DIRECTORY ${HOME}/bin/client ${HOME}/bin/server ${HOME}/lib/bridgejvm)
file(TOUCH ${HOME}/bin/java.dll ${HOME}/bin/java.exe)
if(JDK)
    set(linux_home ${JDK})
else()
    file(STRINGS ${BIN}/bridgejvm.ini java REGEX "^Java=")
    string(REGEX REPLACE "^Java=(.*)/bin/java$" "\\1" linux_home "${java}")
endif()
if(EXISTS ${linux_home}/lib/server/classes.jsa)
    file(TOUCH ${HOME}/bin/client/classes.jsa ${HOME}/bin/server/classes.jsa)
else()
    file(REMOVE ${HOME}/bin/client/classes.jsa ${HOME}/bin/server/classes.jsa)
endif()
file(COPY_FILE ${BIN}/bridgejvm.dll ${HOME}/bin/client/jvm.dll ONLY_IF_DIFFERENT)
file(COPY_FILE ${BIN}/bridgejvm.dll ${HOME}/bin/server/jvm.dll ONLY_IF_DIFFERENT)
file(COPY_FILE ${BIN}/bridgejvm-server.jar ${HOME}/lib/bridgejvm/bridgejvm-server.jar ONLY_IF_DIFFERENT)
file(COPY_FILE ${BIN}/bridgejvm-start.sh ${HOME}/lib/bridgejvm/bridgejvm-start.sh ONLY_IF_DIFFERENT)
if(JDK)
    if(NOT EXISTS ${JDK}/bin/java OR NOT EXISTS ${JDK}/release)
        message(FATAL_ERROR "${JDK} has no bin/java and release file")
    endif()
    file(WRITE ${HOME}/lib/bridgejvm/bridgejvm.ini "[Bridge]\nJava=${JDK}/bin/java\n")
    file(COPY_FILE ${JDK}/release ${HOME}/release ONLY_IF_DIFFERENT)
else()
    file(COPY_FILE ${BIN}/bridgejvm.ini ${HOME}/lib/bridgejvm/bridgejvm.ini ONLY_IF_DIFFERENT)
    file(COPY_FILE ${BIN}/bridgejvm-release ${HOME}/release ONLY_IF_DIFFERENT)
endif()
