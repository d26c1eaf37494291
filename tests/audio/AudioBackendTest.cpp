// The life of an output's audio thread, on a device simulated in the test: open, start, stop,
// start again, close; a device that fails to open, to start, or while playing. Every call must
// come back (no hang), and the callback must never run after Close.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "audio/AudioBackend.h"

namespace {

struct DeviceScript {
    bool openFails = false;
    bool startFails = false;
    int failAfterBuffers = -1; // a failure while playing after that many buffers; -1 never
};

// A device that asks for a buffer every millisecond.
class CSimulatedOutput : public CAudioBackend {
public:
    explicit CSimulatedOutput(const DeviceScript& script)
        : CAudioBackend(AudioApi::WaveOut)
        , m_script(script)
    {
    }
    ~CSimulatedOutput() override { Close(); }

    std::atomic<int> starts { 0 }, stops { 0 }, closes { 0 };

protected:
    bool OpenDevice(const AudioRequest&, std::string* error) override
    {
        if (m_script.openFails) {
            *error = Says("the simulated device is missing");
            return false;
        }
        m_info.format = DeviceFormat { SampleKind::Int16, 2, 48000 };
        m_info.periodFrames = m_info.bufferFrames = 48;
        m_samples.assign(2 * 48, 0);
        MakePump(48);
        return true;
    }
    bool StartDevice(std::string* error) override
    {
        if (m_script.startFails) {
            *error = Says("the simulated device refuses to start");
            return false;
        }
        ++starts;
        return true;
    }
    void RunDevice() override
    {
        for (int buffers = 0; !StopRequested(); ++buffers) {
            if (buffers == m_script.failAfterBuffers) {
                Fail(Says("the simulated device was unplugged"));
                return;
            }
            WaitForSingleObject(WakeEvent(), 1);
            Pump().Fill(m_samples.data(), 48);
        }
    }
    void StopDevice() override { ++stops; }
    void CloseDevice() override { ++closes; }

private:
    DeviceScript m_script;
    std::vector<short> m_samples;
};

struct Counter {
    std::atomic<size_t> calls { 0 };
    RenderCallback Callback()
    {
        return [this](float*, size_t) { ++calls; };
    }
};

void WaitForCalls(const Counter& counter, size_t atLeast)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (counter.calls < atLeast && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

TEST(AudioBackendTest, StartsStopsStartsAgainAndNeverCallsAfterClose)
{
    Counter counter;
    CSimulatedOutput output(DeviceScript {});
    std::string error;
    ASSERT_TRUE(output.Open(AudioRequest {}, counter.Callback(), &error)) << error;
    ASSERT_TRUE(output.Start(&error)) << error;
    WaitForCalls(counter, 5);
    output.Stop();
    size_t afterStop = counter.calls;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(counter.calls.load(), afterStop) << "called while stopped";

    ASSERT_TRUE(output.Start(&error)) << error;
    WaitForCalls(counter, afterStop + 5);
    EXPECT_GE(counter.calls.load(), afterStop + 5) << "no sound after starting again";
    output.Close(); // while playing
    size_t afterClose = counter.calls;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(counter.calls.load(), afterClose) << "called after Close";
    EXPECT_EQ(output.starts.load(), 2);
    EXPECT_EQ(output.stops.load(), 2);
    EXPECT_EQ(output.closes.load(), 1);
    EXPECT_FALSE(output.Failed());
}

TEST(AudioBackendTest, FailuresComeBackWithTheirReason)
{
    struct Case {
        const char* name;
        DeviceScript script;
        bool opens;
        bool starts;
        const char* says;
    };
    const Case cases[] = {
        { "open fails", { true, false, -1 }, false, false, "waveOut: the simulated device is missing" },
        { "start fails", { false, true, -1 }, true, false, "waveOut: the simulated device refuses to start" },
        { "fails while playing", { false, false, 3 }, true, true, "waveOut: the simulated device was unplugged" },
    };
    for (const Case& c : cases) {
        Counter counter;
        CSimulatedOutput output(c.script);
        std::string error;
        bool opened = output.Open(AudioRequest {}, counter.Callback(), &error);
        EXPECT_EQ(opened, c.opens) << c.name;
        bool started = output.Start(&error);
        EXPECT_EQ(started, c.starts) << c.name;
        if (c.starts) {
            auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            while (!output.Failed() && std::chrono::steady_clock::now() < deadline)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            EXPECT_TRUE(output.Failed()) << c.name;
            error = output.FailureText();
        }
        if (c.opens)
            EXPECT_EQ(error, c.says) << c.name;
        else
            EXPECT_EQ(error, "waveOut: not open") << c.name << ": Start after a failed open";
        output.Stop(); // comes back after a failure
        output.Close();
        EXPECT_EQ(counter.calls.load(), c.script.failAfterBuffers > 0 ? 3u : 0u) << c.name;
        EXPECT_EQ(output.closes.load(), 1) << c.name << ": the device is closed once, opened or not";
    }
}

TEST(AudioBackendTest, DestroyedWhilePlayingClosesFirst)
{
    Counter counter;
    std::string error;
    {
        CSimulatedOutput output(DeviceScript {});
        ASSERT_TRUE(output.Open(AudioRequest {}, counter.Callback(), &error)) << error;
        ASSERT_TRUE(output.Start(&error)) << error;
        WaitForCalls(counter, 3);
    }
    size_t afterDestruction = counter.calls;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(counter.calls.load(), afterDestruction);
}

} // namespace
