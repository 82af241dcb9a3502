#include "commandFrames.h"
#include "armSim.h"
#include "captured.h"

#include <gtest/gtest.h>

#include <chrono>
#include <iostream>
#include <sstream>
#include <thread>

namespace {

std::vector<std::string> waitForFrames(const ArmSim& sim, size_t count) {
    for (int i = 0; i < 200 && sim.frames().size() < count; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return sim.frames();
}

} // namespace

TEST(CommandFrame, FieldsAreZeroFilledAndNeverCut) {
    struct Case {
        int base, shoulder, elbow, gripper;
        const char* frame;
    } cases[] = {
        {45, 90, 5, 160, "405090005160"}, {0, 0, 0, 0, "360000000000"},
        {0, 97, 90, 160, "360097090160"}, {639, 999, 999, 999, "999999999999"},
        {640, 1, 2, 3, "1000001002003"},  {999, 0, 0, 160, "1359000000160"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(composeCommandFrame(c.base, c.shoulder, c.elbow, c.gripper), c.frame);
    }
}

TEST(CommandActions, PoleSendAndTheQueueNothingClears) {
    ArmSim sim;
    SerialPort serial(sim.device());
    ASSERT_TRUE(serial.open());
    Captured out(std::cout);
    Captured err(std::cerr);

    sendPosture(serial, poleFrame);
    EXPECT_EQ(out.str(), "Received data: 360097090160\n");

    // Send reads nothing and prints nothing...
    sendPosition(serial, 640, 90, 5, 160);
    EXPECT_EQ(waitForFrames(sim, 2).back(), "1000090005160");
    EXPECT_EQ(out.str(), "Received data: 360097090160\n");

    // ...and the Pole read only its acknowledgement, so the next posture
    // prints the Pole's "done" and the start of the Send's acknowledgement
    // (the controller answers frames in order, after each motion).
    sendPosture(serial, zeroFrame);
    EXPECT_EQ(out.str(), "Received data: 360097090160\nReceived data: done10000900\n");
    EXPECT_EQ(waitForFrames(sim, 3),
              (std::vector<std::string>{"360097090160", "1000090005160", "360000000160"}));
    EXPECT_EQ(err.str(), "");
}

TEST(CommandActions, WithoutADeviceOnlyTheSerialErrors) {
    SerialPort serial("/dev/tallomir-no-such-device");
    Captured out(std::cout);
    Captured err(std::cerr);
    serial.open();
    sendPosture(serial, poleFrame);
    sendPosition(serial, 0, 0, 0, 160);
    EXPECT_EQ(out.str(), "Received data: \n");
    EXPECT_EQ(err.str(), "Error: Unable to open the port /dev/tallomir-no-such-device\n"
                         "Error: Failed to write to serial port\n"
                         "Error: Failed to read from serial port\n"
                         "Error: Failed to write to serial port\n");
}
