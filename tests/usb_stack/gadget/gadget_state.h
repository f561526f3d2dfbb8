// What a programmer went through, as key=value lines the suite reads back.
#pragma once

#include <string>

#include "link/sim/simulated_hid_programmer.h"
#include "link/sim/simulated_pipe_programmer.h"

namespace korvid::gadget {

// transfers=N (everything that crossed its interface), identifier=XXXX,
// target-flash=HEX, stored-image=HEX, stored-serial=N, stored-max-count=N,
// firmware=HEX (the image taken by a re-flash); absent values are empty.
std::string DescribeState(const sim::SimulatedHidProgrammer& programmer);
std::string DescribeState(const sim::SimulatedPipeProgrammer& programmer);

}  // namespace korvid::gadget
