#include "shell/guardedapplication.h"
#include "app/ui/application.h"
#include "store/datalocation.h"

int main(int argc, char *argv[])
{
    GuardedApplication application(argc, argv);
    return runSaporin(DataLocation::directory());
}
