// Arbitrary requests to the privileged helper's server, over a simulated
// machine. The input's first byte chooses the helper's mode (even: reading,
// odd: a firmware update); the rest is a sequence of requests, each a 2-byte
// length and its bytes. Besides the sanitizers: every request gets a reply
// that starts with its success byte, a reading helper never lets a
// DOWNLOAD MICROCODE reach a drive, and no NVMe command but the identity
// read's two reaches one.

#include "disk/NvmeCommands.h"
#include "disk/helper/HelperProtocol.h"
#include "disk/simulated/Fleet.h"
#include "disk/simulated/SimulatedStorage.h"
#include "helper/HelperServer.h"
#include "tests/fuzz/FuzzRule.h"

#include <string>
#include <vector>

namespace {

// A system disk, a maker's SATA drive, a USB drive with a volume and an NVMe drive.
const char kFleet[] = R"({"drives": [
  {"number": 0, "length": 1073741824, "volumes": [{"letter": "C", "total": 1000, "free": 10}]},
  {"number": 1, "length": 274877906944,
   "identity": {"serial": "S1", "model": "QY-M7A0-128G", "firmware": "0208a"}},
  {"number": 2, "bus": "usb", "length": 1073741824, "volumes": [{"letter": "D", "total": 100, "free": 1}],
   "identity": {"serial": "U2", "model": "Stick", "firmware": "1"}},
  {"number": 3, "bus": "nvme", "length": 1073741824,
   "identity": {"serial": "N3", "model": "NVMe", "firmware": "1"}, "health": {"temperature": 310}}]})";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t length)
{
    if (length == 0)
        return 0;
    static const Fleet fleet = parseFleet(kFleet);
    SimulatedStorage machine(fleet);
    const bool firmware = input[0] & 1;
    {
        HelperServer server(machine, firmware ? HelperServer::Mode::Firmware : HelperServer::Mode::Read);
        for (size_t at = 1; at + 2 <= length;) {
            const size_t size = input[at] | input[at + 1] << 8;
            at += 2;
            const size_t taken = std::min(size, length - at);
            const std::vector<uint8_t> request(input + at, input + at + taken);
            at += taken;
            const std::vector<uint8_t> reply = server.reply(request);
            Require(!reply.empty() && reply[0] <= 1, "a reply that starts with its success byte");
        }
    }
    Require(machine.openHandles() == 0, "a helper that ends closes what it opened");
    static const std::vector<uint8_t> kIdentify = NvmeCommandBytes(kNvmeIdentifyController);
    static const std::vector<uint8_t> kHealth = NvmeCommandBytes(kNvmeHealthLog);
    for (const ReceivedCommand& command : machine.received())
        Require(command.route != CommandRoute::Nvme ||
                    (command.block == kIdentify && command.length == kNvmeIdentifyLength) ||
                    (command.block == kHealth && command.length == kNvmeHealthLength),
                "only the identity read's NVMe commands reach a drive");
    if (!firmware)
        for (const ReceivedCommand& command : machine.received())
            Require(command.direction == DataDirection::In, "a reading helper sends nothing to a drive");
    return 0;
}
