/* A third-party program: uses only the installed header and library. */
#include <korvid.h>
#include <stdio.h>

int main(void) {
    char name[KORVID_DISPLAY_NAME_SIZE];
    uint16_t version = 0;
    PartInfo* parts = NULL;
    if (GetAPInfo(name, &version) != 28 || version != 0x0710) {
        fprintf(stderr, "GetAPInfo gave an unexpected answer\n");
        return 1;
    }
    uint32_t count = GetISPInfo(&parts);
    if (count != 44 || parts == NULL) {
        fprintf(stderr, "GetISPInfo gave %u parts\n", (unsigned)count);
        return 1;
    }
    printf("v%X.%02X, %u parts, first %s\n", version >> 8, version & 0xFF, (unsigned)count,
           parts[0].name);
    return 0;
}
