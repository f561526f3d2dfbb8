/* Preloaded into korvid by the command tests (on Windows: KORVID.dll beside a copy
 * of korvid.exe, passing on to the real library renamed korvid_library.dll, see
 * fake_results.def): records every programmer call in
 * the file named by KORVID_CALL_LOG, the code image of the latest UpdateMCU call in
 * the file named by KORVID_CODE_LOG and, where KORVID_FAKE_<FUNCTION> holds a
 * comma-separated list of result codes, answers the next one instead of asking
 * the simulated programmer. An exhausted or absent list passes the call on.
 * KORVID_FAKE_EMPTY_LISTINGS=N makes the first N calls of KorvidListProgrammers
 * find no programmer, as before one is plugged in. */
#define _GNU_SOURCE
#include "korvid_ext.h"

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

#if defined(_WIN32)
#include <windows.h>

/* The real library's function of that name. */
static void* real_function(const char* name) {
    static HMODULE library = NULL;
    if (library == NULL) {
        library = LoadLibraryA("korvid_library.dll");
    }
    return (void*)GetProcAddress(library, name);
}
#else
#include <dlfcn.h>

/* The next definition of that name: the real library's. */
static void* real_function(const char* name) {
    return dlsym(RTLD_NEXT, name);
}
#endif

static void log_call(const char* name) {
    const char* path = getenv("KORVID_CALL_LOG");
    if (path != NULL) {
        FILE* log = fopen(path, "ab");
        if (log != NULL) {
            fprintf(log, "%s\n", name);
            fclose(log);
        }
    }
}

static void log_code(const JobRecord* job) {
    const char* path = getenv("KORVID_CODE_LOG");
    if (path != NULL) {
        FILE* log = fopen(path, "wb");
        if (log != NULL) {
            fwrite(job->codeBuffer, 1, job->codeLength, log);
            fclose(log);
        }
    }
}

/* The next code of the variable's list, or -1; consumed positions are counted per process. */
static int next_fake(const char* variable, int* position) {
    const char* list = getenv(variable);
    if (list == NULL) {
        return -1;
    }
    int index = 0;
    while (*list != '\0') {
        char* end = NULL;
        const long value = strtol(list, &end, 0);
        if (end == list) {
            return -1;
        }
        if (index++ == *position) {
            ++*position;
            return (int)value;
        }
        list = *end == ',' ? end + 1 : end;
    }
    return -1;
}

typedef uint8_t (*UpdateMcuFunction)(JobRecord*, uint32_t, uint32_t);
typedef uint8_t (*DumpFunction)(uint8_t*);
typedef uint8_t (*UpdateFwFunction)(void);
typedef uint8_t (*DetectFunction)(KorvidDetection*);
typedef uint32_t (*ListFunction)(KorvidProgrammerInfo*, uint32_t);

uint8_t UpdateMCU(JobRecord* job, uint32_t icpMode, uint32_t toTarget) {
    static int position = 0;
    log_call("UpdateMCU");
    log_code(job);
    const int fake = next_fake("KORVID_FAKE_UPDATEMCU", &position);
    if (fake >= 0) {
        return (uint8_t)fake;
    }
    return ((UpdateMcuFunction)real_function("UpdateMCU"))(job, icpMode, toTarget);
}

uint8_t DumpMCUInfo(uint8_t* destination) {
    static int position = 0;
    log_call("DumpMCUInfo");
    const int fake = next_fake("KORVID_FAKE_DUMPMCUINFO", &position);
    if (fake >= 0) {
        return (uint8_t)fake;
    }
    return ((DumpFunction)real_function("DumpMCUInfo"))(destination);
}

uint8_t UpdateFW(void) {
    static int position = 0;
    log_call("UpdateFW");
    const int fake = next_fake("KORVID_FAKE_UPDATEFW", &position);
    if (fake >= 0) {
        return (uint8_t)fake;
    }
    return ((UpdateFwFunction)real_function("UpdateFW"))();
}

uint8_t KorvidDetectProgrammer(KorvidDetection* detection) {
    static int position = 0;
    log_call("KorvidDetectProgrammer");
    const int fake = next_fake("KORVID_FAKE_KORVIDDETECTPROGRAMMER", &position);
    if (fake >= 0) {
        return (uint8_t)fake;
    }
    return ((DetectFunction)real_function("KorvidDetectProgrammer"))(detection);
}

uint32_t KorvidListProgrammers(KorvidProgrammerInfo* list, uint32_t capacity) {
    static int calls = 0;
    const char* empty = getenv("KORVID_FAKE_EMPTY_LISTINGS");
    if (empty != NULL && calls++ < atoi(empty)) {
        return 0;
    }
    return ((ListFunction)real_function("KorvidListProgrammers"))(list, capacity);
}
