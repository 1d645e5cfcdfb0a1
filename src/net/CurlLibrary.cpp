#include "net/CurlLibrary.h"

#include "platform/SharedLibrary.h"

#include <cstdio>
#include <mutex>

namespace {

// Resolves one entry point; false when the library lacks it.
template <typename Function> bool resolve(const SharedLibrary& library, const char* name, Function& function)
{
    function = reinterpret_cast<Function>(library.Symbol(name));
    return function != nullptr;
}

const CurlLibrary* load()
{
    // The libcurl the program was built against: the system's on Linux (libcurl4-openssl-dev: the system's TLS),
    // the one shipped beside the program on Windows.
    const std::string fileName = SharedLibrary::FileName("curl", 4);
    std::string error;
    const SharedLibrary library = SharedLibrary::Load(fileName, &error);
    if (!library.IsLoaded()) {
        std::fprintf(stderr, "HTTP unavailable: %s\n", error.c_str());
        return nullptr;
    }
    static CurlLibrary curl;
    const bool complete = resolve(library, "curl_global_init", curl.global_init)
        && resolve(library, "curl_easy_init", curl.easy_init)
        && resolve(library, "curl_easy_cleanup", curl.easy_cleanup)
        && resolve(library, "curl_easy_reset", curl.easy_reset)
        && resolve(library, "curl_easy_setopt", curl.easy_setopt)
        && resolve(library, "curl_easy_pause", curl.easy_pause) && resolve(library, "curl_multi_init", curl.multi_init)
        && resolve(library, "curl_multi_cleanup", curl.multi_cleanup)
        && resolve(library, "curl_multi_add_handle", curl.multi_add_handle)
        && resolve(library, "curl_multi_remove_handle", curl.multi_remove_handle)
        && resolve(library, "curl_multi_perform", curl.multi_perform)
        && resolve(library, "curl_multi_poll", curl.multi_poll)
        && resolve(library, "curl_multi_wakeup", curl.multi_wakeup)
        && resolve(library, "curl_multi_info_read", curl.multi_info_read)
        && resolve(library, "curl_slist_append", curl.slist_append)
        && resolve(library, "curl_slist_free_all", curl.slist_free_all) && resolve(library, "curl_url", curl.url)
        && resolve(library, "curl_url_cleanup", curl.url_cleanup) && resolve(library, "curl_url_set", curl.url_set)
        && resolve(library, "curl_url_get", curl.url_get) && resolve(library, "curl_free", curl.free);
    if (!complete || curl.global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) {
        std::fprintf(stderr, "HTTP unavailable: %s is not usable\n", fileName.c_str());
        return nullptr;
    }
    return &curl; // the library stays loaded until the process ends
}

} // namespace

const CurlLibrary* CurlLibrary::Get()
{
    static const CurlLibrary* loaded = load();
    return loaded;
}
