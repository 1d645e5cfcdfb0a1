#include "platform/SharedLibrary.h"

#ifdef _WIN32
#include "platform/CodePage.h"

#include <windows.h>
#else
#include <dlfcn.h>
#endif

std::string SharedLibrary::FileName(const std::string& base, int version)
{
#ifdef _WIN32
    (void)version; // the DLL's name carries no version
    return "lib" + base + ".dll";
#else
    return "lib" + base + ".so." + std::to_string(version);
#endif
}

SharedLibrary SharedLibrary::Load(const std::string& fileName, std::string* error)
{
    SharedLibrary library;
#ifdef _WIN32
    const std::u16string name = Utf8ToUtf16(fileName);
    HMODULE module = LoadLibraryExW(reinterpret_cast<const wchar_t*>(name.c_str()), nullptr,
        LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
    library.handle = reinterpret_cast<void*>(module);
    if (module == nullptr && error != nullptr) {
        *error = fileName + ": error " + std::to_string(GetLastError());
    }
#else
    library.handle = dlopen(fileName.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library.handle == nullptr && error != nullptr) {
        const char* reason = dlerror();
        *error = reason != nullptr ? reason : fileName;
    }
#endif
    return library;
}

void* SharedLibrary::Symbol(const char* name) const
{
    if (handle == nullptr) {
        return nullptr;
    }
#ifdef _WIN32
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name));
#else
    return dlsym(handle, name);
#endif
}
