#include "app/interaction.h"

namespace trilo {

const char* NoticeText(Notice notice) {
  switch (notice) {
    case Notice::Complete: return "Install Complete.";
    case Notice::Cancelled: return "Install Cancelled.";
    case Notice::OptionsError:
      return "You have incorrectly specified some of the installation options. Try again.";
    case Notice::Failed: return "Install Failed.";
  }
  return "";
}

}  // namespace trilo
