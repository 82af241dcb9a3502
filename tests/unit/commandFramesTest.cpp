#include "commandFrames.h"
#include "armSim.h"
#include "captured.h"
#include "scriptedController.h"
#include "waitFor.h"

#include <gtest/gtest.h>

#include <iostream>
#include <string>
#include <vector>

namespace {

const std::string pole = poleFrame;
const std::string zero = zeroFrame;

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

// A posture prints at most the first 12 bytes of whatever comes back, even
// nothing, and leaves the rest in the line.
TEST(CommandActions, PosturePrintsAtMostTwelveBytesOfTheReply) {
    struct Case {
        const char* what;
        std::string frame, reply, printed;
    } cases[] = {
        {"Pole, echoed", pole, pole, pole},
        {"Zero, echoed", zero, zero, zero},
        {"echo and done together", pole, pole + "done", pole},
        {"short reply", zero, "3600", "3600"},
        {"no reply", pole, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ControllerScript script;
        script.receive(c.frame);
        if (!c.reply.empty()) {
            script.send(c.reply);
        }
        ScriptedController controller(script);
        SerialPort serial(controller.device());
        Captured out(std::cout);
        Captured err(std::cerr);
        ASSERT_TRUE(serial.open());
        sendPosture(serial, c.frame);
        EXPECT_EQ(out.str(), "Received data: " + c.printed + "\n");
        EXPECT_EQ(controller.finish(), "");
        const std::string left = c.reply.substr(c.printed.size());
        if (!left.empty()) {
            EXPECT_EQ(serial.read(128), left) << "left in the line";
        }
        EXPECT_EQ(err.str(), "");
    }
}

// Send reads nothing and prints nothing, and Pole read only its
// acknowledgement, so the next posture prints the Pole's "done" and the
// start of the Send's acknowledgement (the controller answers frames in
// order).
TEST(CommandActions, PoleSendAndTheQueueNothingClears) {
    const std::string sent = "1000090005160";
    ScriptedController controller(
        ControllerScript().receive(pole).send(pole).send("done").receive(sent).send(sent).send(
            "done"));
    SerialPort serial(controller.device());
    Captured out(std::cout);
    Captured err(std::cerr);
    ASSERT_TRUE(serial.open());

    sendPosture(serial, poleFrame);
    EXPECT_EQ(out.take(), "Received data: " + pole + "\n");
    sendPosition(serial, 640, 90, 5, 160);
    EXPECT_EQ(out.take(), "");
    ASSERT_EQ(controller.finish(), "") << "every reply is in the line";
    sendPosture(serial, zeroFrame);
    EXPECT_EQ(out.take(), "Received data: done10000900\n");
    EXPECT_EQ(controller.written(pole.size() + sent.size() + zero.size()), pole + sent + zero);
    EXPECT_EQ(err.str(), "");
}

TEST(CommandActions, PoleToTheSimulator) {
    ArmSim sim;
    SerialPort serial(sim.device());
    Captured out(std::cout);
    Captured err(std::cerr);
    ASSERT_TRUE(serial.open());
    sendPosture(serial, poleFrame);
    EXPECT_EQ(out.str(), "Received data: " + pole + "\n");
    EXPECT_TRUE(waitFor([&] { return sim.frames() == std::vector<std::string>{pole}; }))
        << sim.log();
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
