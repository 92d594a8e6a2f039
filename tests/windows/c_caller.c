/*
 * A C caller of tarvex.dll, linked through its import library: takes the
 * address of every exported function, calls the ones that need no camera and
 * looks the two names of the stop function up in the loaded DLL.
 * Exit status 0 when everything holds, else the number of the failed check.
 */
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include "tarvex.h"

typedef void (*AnyFunction)(void);

static const struct {
    const char* name;
    AnyFunction address;
} exported[] = {
#define EXPORT(name) {#name, (AnyFunction)&name},
#include "exports_referenced.h"
#undef EXPORT
};

static int isExported(const char* name) {
    size_t i;
    for (i = 0; i < sizeof exported / sizeof exported[0]; ++i) {
        if (strcmp(exported[i].name, name) == 0 && exported[i].address != NULL) return 1;
    }
    return 0;
}

int main(void) {
    CameraHandle handle = (CameraHandle)1;
    if (TarvexGetDeviceNumber() < 0) return 1;
    if (BeginTarvex(0, &handle) != TARVEX_ERR_NO_DEVICE || handle != 0) return 2;
    if (EndTarvex(0) != TARVEX_ERR_INVALID_HANDLE) return 3;
    if (TarvexStopSnap(0) != TARVEX_ERR_INVALID_HANDLE) return 4;
    if (TarvexAbortSnap(0) != TARVEX_ERR_INVALID_HANDLE) return 5;
    /* Both names lead to the DLL's one function. */
    HMODULE library = GetModuleHandleA("tarvex.dll");
    if (library == NULL || !isExported("TarvexAbortSnap")) return 6;
    FARPROC stop = GetProcAddress(library, "TarvexStopSnap");
    if (stop == NULL || GetProcAddress(library, "TarvexAbortSnap") != stop) return 7;
    printf("%u exports linked\n", (unsigned)(sizeof exported / sizeof exported[0]));
    return 0;
}
