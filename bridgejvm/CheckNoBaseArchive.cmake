# cmake -DIMAGE=<runtime image> -P CheckNoBaseArchive.cmake
# Fails when the image has a base class data sharing archive: the image is
# meant to be one without (as jlink of Java 13 to 18 makes it by default).
file(GLOB archives ${IMAGE}/lib/server/*.jsa ${IMAGE}/lib/client/*.jsa)
if(archives)
    message(FATAL_ERROR "${IMAGE} has a base archive: ${archives}")
endif()
if(NOT EXISTS ${IMAGE}/lib/server/libjvm.so)
    message(FATAL_ERROR "${IMAGE} is no runtime image: lib/server/libjvm.so is missing")
endif()
