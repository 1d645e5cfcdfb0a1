#pragma once
// libcurl, loaded the first time a request is opened rather than when the program starts: the wizard's
// first pages send nothing, and the library brings two dozen more with it (TLS, Kerberos, LDAP, IDN, ...)
// whose loading would otherwise delay the first page and stay in memory whether used or not.

#include <curl/curl.h>

struct CurlLibrary
{
    decltype(&curl_global_init) global_init = nullptr;
    decltype(&curl_easy_init) easy_init = nullptr;
    decltype(&curl_easy_cleanup) easy_cleanup = nullptr;
    decltype(&curl_easy_reset) easy_reset = nullptr;
    decltype(&curl_easy_setopt) easy_setopt = nullptr;
    decltype(&curl_easy_pause) easy_pause = nullptr;
    decltype(&curl_multi_init) multi_init = nullptr;
    decltype(&curl_multi_cleanup) multi_cleanup = nullptr;
    decltype(&curl_multi_add_handle) multi_add_handle = nullptr;
    decltype(&curl_multi_remove_handle) multi_remove_handle = nullptr;
    decltype(&curl_multi_perform) multi_perform = nullptr;
    decltype(&curl_multi_poll) multi_poll = nullptr;
    decltype(&curl_multi_wakeup) multi_wakeup = nullptr;
    decltype(&curl_multi_info_read) multi_info_read = nullptr;
    decltype(&curl_slist_append) slist_append = nullptr;
    decltype(&curl_slist_free_all) slist_free_all = nullptr;
    decltype(&curl_url) url = nullptr;
    decltype(&curl_url_cleanup) url_cleanup = nullptr;
    decltype(&curl_url_set) url_set = nullptr;
    decltype(&curl_url_get) url_get = nullptr;
    decltype(&curl_free) free = nullptr;

    // The library, loaded and initialised once (thread-safe); nullptr when it cannot be loaded, which
    // makes every request fail as a connection failure.
    static const CurlLibrary* Get();
};
