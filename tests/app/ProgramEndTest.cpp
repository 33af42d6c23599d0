#include "app/ProgramEnd.h"

#include "app/frmMain.h"
#include "tests/support/FakeWindowServices.h"

#include <QCoreApplication>
#include <QTimer>

#include <gtest/gtest.h>

namespace ostrevan {
namespace {

TEST(ProgramEnd, AnErrorWhileTheMainWindowLoadsEndsTheProgramWithOne) {
    fakes::FakeWindowServices outside;
    // A screen too wide for the centring's 32-bit arithmetic: Form_Load raises overflow.
    outside.screen = fakes::FakeScreen{1e12, 14400};
    fakes::UnusedFileSystem fileSystem;
    MainWindowServices services = outside.services(fileSystem, "/opt/ostrevan");
    ProgramEnd programEnd;
    services.endProgram = [&programEnd](int code) {
        programEnd.end(code);
    };
    const frmMain window(std::move(services));
    EXPECT_EQ(programEnd.endedBeforeLoop(), 1);
    EXPECT_EQ(outside.messages.messages,
              std::vector<std::string>{"Laufzeitfehler '6':\n\n\u00dcberlauf"});
}

TEST(ProgramEnd, OnceTheLoopRunsItEndsTheLoop) {
    ProgramEnd programEnd;
    QTimer::singleShot(0, [&programEnd] { programEnd.end(1); });
    EXPECT_EQ(QCoreApplication::exec(), 1);
    EXPECT_FALSE(programEnd.endedBeforeLoop());
}

} // namespace
} // namespace ostrevan
