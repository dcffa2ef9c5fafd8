#include "ModalRunner.h"

#include <QDialog>

namespace {
TModalHook &modalHook()
{
    static TModalHook hook;
    return hook;
}
} // namespace

int RunModal(QDialog &dialog)
{
    if (const TModalHook &hook = modalHook())
        return hook(dialog);
    return dialog.exec();
}

TModalHook SetModalHook(TModalHook hook)
{
    return std::exchange(modalHook(), std::move(hook));
}
