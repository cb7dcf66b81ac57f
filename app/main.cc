#include <random>

#include "app/program.h"
#include "platform/platform.h"
#include "text/unicode_case.h"

int main(int argc, char** argv) {
  platform::StartProgram(argc, argv);
  app::System system{platform::SystemFileSystem(),
                     platform::SystemUserFiles(),
                     platform::SystemConsole(),
                     platform::SystemInterrupts(),
                     platform::SystemPathStyle(),
                     &text::UnicodeCaseMapping(),
                     app::CurrentYear(),
                     platform::UtcNow(),
                     platform::ProcessNumber(),
                     static_cast<std::uint32_t>(std::random_device{}())};
  platform::EndProgram(app::RunProgram(platform::ReadCommandLine(), system));
}
