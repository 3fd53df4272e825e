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
    // Asked after each row of the copy passes: true ends the run there, keeping what was written.
    virtual bool CancelRequested() { return false; }
    // The copy passes are done: the passes that rewrite the destination always run to their end
    // now, since stopping one half-way would leave rows half-converted. A request to stop from
    // here on is answered by saying so; the run then ends as a completed run.
    virtual void LastPassesBegin() {}
    // The run has ended, whichever way; called before its closing message.
    virtual void RunEnded() {}
};
