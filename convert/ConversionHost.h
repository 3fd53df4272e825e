#pragma once

#include "convert/RunProgress.h"
#include "db/UserMessages.h"
#include "ui/CRichText.h"

// What a run needs of the window that started it.
class ConversionHost : public UserMessages {
public:
    virtual void EnableStartButton(bool enabled) = 0;
    virtual CRichText& RichTextControl() = 0;

    // Where the run is: when a pass begins (no rows done yet) and after each row.
    virtual void ReportProgress(const ConversionProgress& /*progress*/) {}
    // Asked after each row: true ends the run there, keeping what was written.
    virtual bool CancelRequested() { return false; }
    // The run has ended, whichever way; called before its closing message.
    virtual void RunEnded() {}
};
