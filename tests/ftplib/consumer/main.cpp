// Uses the installed library as any program would: every export reachable, nothing else.
#include <SkiffS/SkiffS.h>

#include <cstdio>

int main() {
    int total = -1;
    int done = -1;
    Skiff_GetStatus("device", &total, &done);
    Skiff_Cancel("device");
    const int refused = CSkiffClient().Skiff_SendD("", "user", "", 21, 1, "a", "b", 1, 0);
    const int refusedGet = CSkiffClient().Skiff_GetD("device", "", "", 21, 1, "a", "b", 1, 0);
    const char* text = Skiff_ResultText(refused);
    std::printf("%d %d %d %d %s\n", total, done, refused, refusedGet, text);
    return (total == 0 && done == 0 && refused == SKIFF_INVALID_ARGUMENT && refusedGet == SKIFF_INVALID_ARGUMENT &&
            text != nullptr && text[0] != '\0')
               ? 0
               : 1;
}
