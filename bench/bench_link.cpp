// How much the tool itself adds to an exchange with the controller, measured against the virtual
// controller with no added delay, and what a vain wait for a reply costs.
#include "ProcessCpuTime.h"

#include "BenchRig.h"
#include "host/MonitorState.h"
#include "link/DeviceLink.h"
#include "link/IdentityRecord.h"
#include "sim/VirtualController.h"
#include "sim/VirtualTransport.h"
#include "text/TextPair.h"

#include <chrono>
#include <cstdio>

using namespace korvex;

namespace {

using bench::LineSeconds;
using bench::LinkRig;
using bench::Now;

} // namespace

int main() {
    LinkRig rig;
    IdentityRecord id;
    if (rig.link.device.ComProbe(id) != 0) {
        std::fprintf(stderr, "virtual controller did not answer\n");
        return 1;
    }

    // Identity exchanges: 6 bytes out, 56 back.
    const int exchanges = 20000;
    double wall = Now(), cpu = bench::ProcessCpuSeconds();
    for (int i = 0; i < exchanges; ++i)
        if (rig.link.device.ReadIdentity(id) != 0)
            return 1;
    wall = Now() - wall;
    cpu = bench::ProcessCpuSeconds() - cpu;
    const double lineExchange = LineSeconds(6 + 56);
    std::printf("identity exchanges:      %.0f per second, %.1f us CPU each (line needs %.0f us: "
                "%.2f%%)\n",
                exchanges / wall, 1e6 * cpu / exchanges, 1e6 * lineExchange,
                100.0 * (cpu / exchanges) / lineExchange);

    // The whole image: 32 requests of 6 bytes, 31 replies of 70 and one of 41.
    std::uint8_t image[2019];
    const int rounds = 500;
    wall = Now();
    cpu = bench::ProcessCpuSeconds();
    for (int i = 0; i < rounds; ++i)
        if (rig.link.device.DeviceReadBlock(0x10, 0, image, 2019) != 0)
            return 1;
    wall = (Now() - wall) / rounds;
    cpu = (bench::ProcessCpuSeconds() - cpu) / rounds;
    const double lineRead = LineSeconds(32 * 6 + 31 * 70 + 41);
    std::printf("read 2019-byte image:    %.3f ms wall, %.3f ms CPU (line needs %.1f ms: %.2f%%)\n",
                1e3 * wall, 1e3 * cpu, 1e3 * lineRead, 100.0 * wall / lineRead);

    // Writing it: 31 requests of 70 bytes and one of 41, 32 acknowledgements of 6.
    wall = Now();
    cpu = bench::ProcessCpuSeconds();
    for (int i = 0; i < rounds; ++i)
        if (rig.link.device.DeviceWriteBlock(0x10, 0, image, 2019, 64) != 0)
            return 1;
    wall = (Now() - wall) / rounds;
    cpu = (bench::ProcessCpuSeconds() - cpu) / rounds;
    const double lineWrite = LineSeconds(31 * 70 + 41 + 32 * 6);
    std::printf("write 2019-byte image:   %.3f ms wall, %.3f ms CPU (line needs %.1f ms: %.2f%%)\n",
                1e3 * wall, 1e3 * cpu, 1e3 * lineWrite, 100.0 * wall / lineWrite);

    // A controller that never answers: three attempts of 100 ms with 10 ms pauses.
    rig.controller.addFault(sim::Fault::NoReply);
    const int vain = 5;
    wall = Now();
    cpu = bench::ProcessCpuSeconds();
    for (int i = 0; i < vain; ++i)
        if (rig.link.device.ReadIdentity(id) != 13)
            return 1;
    wall = (Now() - wall) / vain;
    cpu = (bench::ProcessCpuSeconds() - cpu) / vain;
    std::printf("vain wait for a reply:   %.0f ms wall, %.2f ms CPU = %.2f%% of one core\n",
                1e3 * wall, 1e3 * cpu, 100.0 * cpu / wall);
    return 0;
}
