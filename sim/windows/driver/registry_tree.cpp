#include "registry_tree.h"

#include <cstdint>

namespace tarvex::kernel {

namespace {

constexpr int MAX_DEPTH = 8;
constexpr size_t NAME_UNITS = 256;

NTSTATUS openKey(HANDLE parent, UNICODE_STRING* name, HANDLE* key) {
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, name, OBJ_KERNEL_HANDLE | OBJ_CASE_INSENSITIVE, parent, nullptr);
    return ZwOpenKey(key, DELETE | KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE, &attributes);
}

// Deletes every subkey of `key`, then `key` itself; the handle is closed.
NTSTATUS deleteOpenKey(HANDLE key, int depth) {
    if (depth < MAX_DEPTH) {
        // Always the first subkey: each one is gone once it was deleted.
        union {
            KEY_BASIC_INFORMATION info;
            uint8_t bytes[sizeof(KEY_BASIC_INFORMATION) + NAME_UNITS * sizeof(wchar_t)];
        } buffer;
        for (;;) {
            ULONG length = 0;
            NTSTATUS status = ZwEnumerateKey(key, 0, KeyBasicInformation, &buffer, sizeof buffer, &length);
            if (!NT_SUCCESS(status)) break;
            UNICODE_STRING name;
            name.Buffer = buffer.info.Name;
            name.Length = static_cast<USHORT>(buffer.info.NameLength);
            name.MaximumLength = name.Length;
            HANDLE child = nullptr;
            if (!NT_SUCCESS(openKey(key, &name, &child))) break;
            if (!NT_SUCCESS(deleteOpenKey(child, depth + 1))) break;
        }
    }
    NTSTATUS status = ZwDeleteKey(key);
    ZwClose(key);
    return status;
}

}  // namespace

NTSTATUS deleteRegistryTree(const wchar_t* path) {
    UNICODE_STRING name;
    RtlInitUnicodeString(&name, path);
    HANDLE key = nullptr;
    NTSTATUS status = openKey(nullptr, &name, &key);
    if (status == STATUS_OBJECT_NAME_NOT_FOUND || status == STATUS_OBJECT_PATH_NOT_FOUND) {
        return STATUS_SUCCESS;
    }
    if (!NT_SUCCESS(status)) return status;
    return deleteOpenKey(key, 0);
}

}  // namespace tarvex::kernel
