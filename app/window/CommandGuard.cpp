#include "app/window/CommandGuard.h"

#include "app/dialogs/Prompts.h"
#include "text/VormikError.h"

#include <new>

void runCommand(Prompts &prompts, QWidget *owner, const std::function<void()> &command)
{
    try {
        command();
    } catch (const VormikError &failure) {
        prompts.error(owner, failure.message());
    } catch (const std::bad_alloc &) {
        prompts.error(owner, QStringLiteral("メモリが不足しています"));
    } catch (const std::exception &failure) {
        prompts.error(owner, QString::fromLocal8Bit(failure.what()));
    }
}
