#include "app/program.h"
#include "platform/platform.h"

int main(int argc, char** argv) {
  platform::StartProgram(argc, argv);
  app::RunServices services = app::PlatformServices();
  const int exit_code = app::RunProgram(platform::ReadCommandLine(),
                                        app::CurrentYear(), services);
  platform::EndProgram(exit_code);
}
