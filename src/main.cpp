#include "app/startup.h"

int main(int argc, char* argv[])
{
    return movilibro::runApplication(argc, argv);
}
