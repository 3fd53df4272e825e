#pragma once

#include <QByteArray>
#include <QWidget>
#include <vector>

#include "ui/SystemMenu.h"

// The real system menu, where the platform has one the program may add to.
void AppendToNativeSystemMenu(QWidget& window, const std::vector<SystemMenuItem>& items,
                              std::size_t firstNew);
// Whether a native message is WM_SYSCOMMAND, with its command id and parameter.
bool IsNativeSysCommand(const QByteArray& eventType, void* message, unsigned& id, qintptr& lParam);
