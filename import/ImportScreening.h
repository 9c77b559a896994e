#pragma once

#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

class LinkNode;

// What an import brings that its user should hear of before it reaches a page: names that hold
// markup, which the classic page writes as markup, and addresses that run script (javascript:,
// vbscript:, data:). Anyone can put such things in a bookmark's title or address, so the
// addresses are left out unless the user keeps them.
class ImportScreening
{
public:
    // Looks at a node as it is read: its name, and a link's address.
    void look(LinkNode *node);
    // Takes the script addresses out of their links; they are kept here, to be put back.
    void leaveOutScriptAddresses();
    // Puts the addresses left out back, as the user asked.
    void keepScriptAddresses();

    bool hasScriptAddresses() const { return !m_scriptAddresses.empty(); }
    // One line per kind, naming the nodes (the first few of them), without a closing period.
    QStringList lines() const;

private:
    std::vector<const LinkNode *> m_markupNames;
    std::vector<std::pair<LinkNode *, QString>> m_scriptAddresses;
    bool m_addressesLeftOut = false;
};
