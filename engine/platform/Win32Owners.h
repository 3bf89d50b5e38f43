#ifndef QUILLOWBY_ENGINE_PLATFORM_WIN32_OWNERS_H
#define QUILLOWBY_ENGINE_PLATFORM_WIN32_OWNERS_H

// Owners of the system's handles, each closing its handle when it goes out of scope; none of
// them can be copied. Windows only: the Win32 layer's sources and the window include it,
// never a portable header. A handle that is handed on (to the engine as its opaque pointer,
// to the clipboard) leaves its owner through Release and is closed where it is taken back.

#include <windows.h>
#include <objbase.h>

// A kernel handle: a file, a thread. Calls that fail give INVALID_HANDLE_VALUE (CreateFile)
// or null (CreateThread); neither is closed.
class KernelHandle
{
public:
    explicit KernelHandle(HANDLE handle = nullptr) : handle(handle) {}
    ~KernelHandle() { Close(); }

    KernelHandle(const KernelHandle&) = delete;
    KernelHandle& operator=(const KernelHandle&) = delete;

    bool IsValid() const { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return handle; }
    HANDLE Release()
    {
        HANDLE kept = handle;
        handle = nullptr;
        return kept;
    }
    void Reset(HANDLE taken)
    {
        Close();
        handle = taken;
    }

private:
    void Close()
    {
        if (IsValid())
            CloseHandle(handle);
    }

    HANDLE handle;
};

// A search of FindFirstFile, closed with FindClose.
class FindHandle
{
public:
    explicit FindHandle(HANDLE handle) : handle(handle) {}
    ~FindHandle()
    {
        if (IsValid())
            FindClose(handle);
    }

    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;

    bool IsValid() const { return handle != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return handle; }
    HANDLE Release()
    {
        HANDLE kept = handle;
        handle = INVALID_HANDLE_VALUE;
        return kept;
    }

private:
    HANDLE handle;
};

// Memory of GlobalAlloc, freed unless handed on.
class GlobalMemory
{
public:
    explicit GlobalMemory(HGLOBAL memory) : memory(memory) {}
    ~GlobalMemory()
    {
        if (memory)
            GlobalFree(memory);
    }

    GlobalMemory(const GlobalMemory&) = delete;
    GlobalMemory& operator=(const GlobalMemory&) = delete;

    HGLOBAL Get() const { return memory; }
    HGLOBAL Release()
    {
        HGLOBAL kept = memory;
        memory = nullptr;
        return kept;
    }

private:
    HGLOBAL memory;
};

// COM on the calling thread while it lives, if it could be started.
class ComApartment
{
public:
    explicit ComApartment(DWORD model) : started(SUCCEEDED(CoInitializeEx(nullptr, model))) {}
    ~ComApartment()
    {
        if (started)
            CoUninitialize();
    }

    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

    bool IsStarted() const { return started; }

private:
    bool started;
};

// One reference to a COM object; the type may be incomplete where the owner is only declared.
template <typename Interface>
class ComPointer
{
public:
    ComPointer() : object(nullptr) {}
    ~ComPointer() { Reset(nullptr); }

    ComPointer(const ComPointer&) = delete;
    ComPointer& operator=(const ComPointer&) = delete;

    Interface* Get() const { return object; }
    Interface* operator->() const { return object; }
    explicit operator bool() const { return object != nullptr; }
    void Reset(Interface* taken)
    {
        if (object)
            object->Release();
        object = taken;
    }

private:
    Interface* object;
};

#endif
