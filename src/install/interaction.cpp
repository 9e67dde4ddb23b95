#include "install/interaction.h"

#include "install/interface_text.h"

namespace trilo {

const char* NoticeText(Notice notice) {
  switch (notice) {
    case Notice::Complete: return TXT_INSTALL_COMPLETE;
    case Notice::Cancelled: return TXT_INSTALL_CANCELLED;
    case Notice::OptionsError: return TXT_OPTIONS_ERROR;
    case Notice::Failed: return TXT_INSTALL_FAILED;
    case Notice::UndoComplete: return TXT_UNDO_COMPLETE;
    case Notice::UndoFailed: return TXT_UNDO_FAILED;
    case Notice::UndoCancelled: return TXT_UNDO_CANCELLED;
    case Notice::UndoIncomplete: return TXT_UNDO_INCOMPLETE;
  }
  return "";
}

}  // namespace trilo
