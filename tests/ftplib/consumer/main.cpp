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
    std::printf("%d %d %d %d\n", total, done, refused, refusedGet);
    return (total == 0 && done == 0 && refused == -1 && refusedGet == -1) ? 0 : 1;
}
