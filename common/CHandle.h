#pragma once

#include <memory>

// Owns a handle of a C library and releases it with that library's free function:
// CHandle<CURL, curl_easy_cleanup>.
template <class T, auto Free> struct CHandleFree
{
    void operator()(T* handle) const { Free(handle); }
};

template <class T, auto Free> using CHandle = std::unique_ptr<T, CHandleFree<T, Free>>;
