# cmake -DBIN=<build bin folder> -DHOME=<runtime folder> -P LayOutRuntime.cmake
# Lays out a bridge runtime: the folder a launcher finds as a Java home.
file(MAKE_DIRECTORY ${HOME}/bin/client ${HOME}/bin/server ${HOME}/lib/bridgejvm)
file(TOUCH ${HOME}/bin/java.dll)
file(COPY_FILE ${BIN}/bridgejvm.dll ${HOME}/bin/client/jvm.dll ONLY_IF_DIFFERENT)
file(COPY_FILE ${BIN}/bridgejvm.dll ${HOME}/bin/server/jvm.dll ONLY_IF_DIFFERENT)
file(COPY_FILE ${BIN}/bridgejvm-server.jar ${HOME}/lib/bridgejvm/bridgejvm-server.jar ONLY_IF_DIFFERENT)
file(COPY_FILE ${BIN}/bridgejvm-start.sh ${HOME}/lib/bridgejvm/bridgejvm-start.sh ONLY_IF_DIFFERENT)
file(COPY_FILE ${BIN}/bridgejvm.ini ${HOME}/lib/bridgejvm/bridgejvm.ini ONLY_IF_DIFFERENT)
file(COPY_FILE ${BIN}/bridgejvm-release ${HOME}/release ONLY_IF_DIFFERENT)
