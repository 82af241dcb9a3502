#include "scriptedController.h"
#include "captured.h"
#include "serialPort.h"

#include <gtest/gtest.h>

#include <iostream>
#include <string>

// The controller the protocol tests script must itself tell a wrong frame
// from the expected one, or those tests would pass whatever was sent.
TEST(ScriptedController, ReportsBytesOtherThanTheScriptWaitsFor) {
    ScriptedController controller(ControllerScript().receive("360097090160").send("never"));
    SerialPort port(controller.device());
    Captured err(std::cerr);
    ASSERT_TRUE(port.open());
    port.write("360000000160");
    EXPECT_EQ(controller.finish(),
              "waited for \"360097090160\", the program wrote \"360000000160\"");
    EXPECT_EQ(controller.written(12), "360000000160");
    EXPECT_EQ(err.str(), "");
}
