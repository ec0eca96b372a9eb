#pragma once

namespace wexon::rig {

// True when `mhz` lies inside an amateur band of any ITU region (2200 m up to
// 250 GHz, each band's widest national edges). A rig reading outside all of
// them is no contact's frequency: at best the rig is tuned elsewhere, at worst
// the reply was misread, and neither may reach the log.
bool isAmateurFrequency(double mhz);

} // namespace wexon::rig
