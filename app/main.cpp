#include "MorvexApp.h"

int main(int argc, char* argv[])
{
    CMorvexApp app;
    app.StartUp(argc, argv);
    return app.ExitCode();
}
