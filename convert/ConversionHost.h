#pragma once

#include "db/UserMessages.h"
#include "ui/CRichText.h"

// What a run needs of the window that started it.
class ConversionHost : public UserMessages {
public:
    virtual void EnableStartButton(bool enabled) = 0;
    virtual CRichText& RichTextControl() = 0;
};
