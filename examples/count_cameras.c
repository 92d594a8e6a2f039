/*
 * Counts the attached cameras and prints what it found.
 *   count_cameras             print the count and each camera's identification
 *   count_cameras --expect N  exit 1 unless exactly N cameras are found
 */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "tarvex.h"

int main(int argc, char** argv) {
    int32_t count = TarvexGetDeviceNumber();
    printf("%d camera%s found\n", (int)count, count == 1 ? "" : "s");
    for (int32_t index = 1; index <= count; ++index) {
        CameraHandle camera = 0;
        ApiStatus status = BeginTarvex(index, &camera);
        if (status != 0) {
            printf("  camera %d: cannot be opened (%d)\n", (int)index, (int)status);
            continue;
        }
        char ident[2] = {0, 0};
        int32_t size = (int32_t)sizeof ident;
        if (TarvexGetDeviceInfo(camera, TARVEX_INFO_IDENTIFICATION, ident, &size) == 0 &&
            size == (int32_t)sizeof ident) {
            printf("  camera %d: identification %c%c\n", (int)index, ident[0], ident[1]);
        } else {
            printf("  camera %d: open\n", (int)index);
        }
        EndTarvex(camera);
    }
    if (argc == 3 && strcmp(argv[1], "--expect") == 0) {
        return count == atoi(argv[2]) ? 0 : 1;
    }
    return 0;
}
