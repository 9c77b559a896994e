#pragma once

#include <functional>
#include <memory>

class LinkTreeModel;
class Prompts;
class QWidget;

// What the parts of the main window share: the tree's model, through which every change is
// made, and the seam for the questions they ask (tests answer it from a script).
class WindowContext
{
public:
    WindowContext(LinkTreeModel &model, std::unique_ptr<Prompts> prompts);
    ~WindowContext();
    WindowContext(const WindowContext &) = delete;
    WindowContext &operator=(const WindowContext &) = delete;

    LinkTreeModel &model() const { return m_model; }
    Prompts &prompts() const { return *m_prompts; }
    void setPrompts(std::unique_ptr<Prompts> prompts);

    // Runs a command; a failure it ends with is shown in the error box over `owner`.
    void guarded(QWidget *owner, const std::function<void()> &command) const;
    // A slot that runs `handler` of `part` guarded.
    template<typename Part>
    std::function<void()> command(QWidget *owner, Part *part, void (Part::*handler)()) const
    {
        return [this, owner, part, handler] { guarded(owner, [&] { (part->*handler)(); }); };
    }

private:
    LinkTreeModel &m_model;
    std::unique_ptr<Prompts> m_prompts;
};
