// waitline-scenario-core: runs a scenario script on the controller alone and
// prints the same dumps as waitline-scenario does from the real window. It
// needs no Qt, so it also runs where the window cannot, compiled for the web.

#include <string>

#include "tools/scenario/model_window.h"
#include "tools/scenario/scenario_run.h"

int main(int argc, char** argv)
{
    waitline::scenario::ModelWindow window;
    return waitline::scenario::RunScenario(window, argc > 1 ? argv[1] : "-");
}
