# Windows DLLs that the product needs only for its dialogs, the splash
# picture and the download link are delay-loaded: the process loads them, and
# the DLLs they load in turn, when it first calls one of their functions
# instead of before WinMain. (comctl32 also comes in without such a call:
# user32 loads it for the manifest's common-controls classes when a dialog
# or message box is created.)
#
# Each DLL's functions are listed with the size of their arguments, which
# 32-bit stdcall names carry. A function of these DLLs missing here is
# imported the ordinary way, and with it the whole DLL at start-up again:
# tools/check-product.sh fails then.
set(DELAY_LOADED_DLLS shell32 ole32 oleaut32 comctl32)
set(DELAY_LOAD_shell32 SHBrowseForFolderA@4 SHGetPathFromIDListW@8 ShellExecuteA@24)
set(DELAY_LOAD_ole32 CoInitializeEx@8 CoUninitialize@0 CoTaskMemFree@4 CreateStreamOnHGlobal@12)
set(DELAY_LOAD_oleaut32 OleLoadPicture@20)
set(DELAY_LOAD_comctl32 InitCommonControlsEx@4)

# The interface library delay_loaded_dlls: the delay-load import libraries of
# the DLLs above, made with dlltool, the helper that loads a DLL at its first
# call, and after them the ordinary import libraries of the same DLLs for the
# functions not listed (test programs use a few). The folders whose code
# calls these DLLs (ui, splash) link it, so the import libraries come after
# that code on every link line and the product's calls go through the
# delay-load ones.
set(delay_libraries)
foreach(dll ${DELAY_LOADED_DLLS})
    set(exports ${DELAY_LOAD_${dll}})
    set(kill_at -k)
    if(NOT CMAKE_SYSTEM_PROCESSOR STREQUAL i686)
        list(TRANSFORM exports REPLACE "@[0-9]+$" "")
        set(kill_at)
    endif()
    list(JOIN exports "\n" lines)
    set(def ${CMAKE_BINARY_DIR}/delayload/${dll}.def)
    set(library ${CMAKE_BINARY_DIR}/delayload/lib${dll}_delay.a)
    file(CONFIGURE OUTPUT ${def} CONTENT "LIBRARY ${dll}.dll\nEXPORTS\n${lines}\n")
    add_custom_command(OUTPUT ${library}
        COMMAND ${CMAKE_DLLTOOL} ${kill_at} --input-def ${def} --dllname ${dll}.dll
                --output-delaylib ${library}
        DEPENDS ${def}
        VERBATIM)
    list(APPEND delay_libraries ${library})
endforeach()
add_custom_target(delay_load_libraries DEPENDS ${delay_libraries})
add_library(delay_loaded_dlls INTERFACE)
add_dependencies(delay_loaded_dlls delay_load_libraries)
target_link_libraries(delay_loaded_dlls INTERFACE ${delay_libraries} delayimp ${DELAY_LOADED_DLLS} uuid)
