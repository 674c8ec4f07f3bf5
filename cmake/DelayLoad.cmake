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
set(DELAY_LOAD_shell32 SHBrowseForFolderA@4 SHGetPathFromIDListA@8 ShellExecuteA@24)
set(DELAY_LOAD_ole32 CoInitializeEx@8 CoUninitialize@0 CoTaskMemFree@4 CreateStreamOnHGlobal@12)
set(DELAY_LOAD_oleaut32 OleLoadPicture@20)
set(DELAY_LOAD_comctl32 InitCommonControlsEx@4)

# Links target against delay-load import libraries of the DLLs above, made
# with dlltool, and the helper that loads a DLL at its first call.
function(link_delay_loaded_dlls target)
    set(libraries)
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
        list(APPEND libraries ${library})
    endforeach()
    add_custom_target(${target}_delay_libraries DEPENDS ${libraries})
    add_dependencies(${target} ${target}_delay_libraries)
    # Before the ordinary import libraries, which launcher_core brings.
    target_link_libraries(${target} PRIVATE ${libraries} delayimp)
endfunction()
