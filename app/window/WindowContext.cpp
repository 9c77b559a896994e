#include "app/window/WindowContext.h"

#include "app/window/CommandGuard.h"
#include "app/dialogs/Prompts.h"

WindowContext::WindowContext(LinkTreeModel &model, std::unique_ptr<Prompts> prompts)
    : m_model(model), m_prompts(std::move(prompts))
{
}

WindowContext::~WindowContext() = default;

void WindowContext::setPrompts(std::unique_ptr<Prompts> prompts)
{
    m_prompts = std::move(prompts);
}

void WindowContext::guarded(QWidget *owner, const std::function<void()> &command) const
{
    runCommand(*m_prompts, owner, command);
}
