#include "shell/guardedapplication.h"
#include "app/ui/application.h"
#include "store/recipestore.h"

int main(int argc, char *argv[])
{
    GuardedApplication application(argc, argv);
    return runSaporin(RecipeStore::programDirectory());
}
