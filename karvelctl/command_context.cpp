// SPDX-License-Identifier: MIT
#include "command_context.h"
#include "outside_text.h"

#include <utility>

namespace karvel::ctl {

CommandContext::CommandContext(std::vector<std::string> argumentList, std::ostream& outStream, std::ostream& errStream,
                               bool terminal, GlobalOptions globalOptions, ChangerOpener opener)
    : CommandContext(std::move(argumentList), outStream, errStream, terminal, std::move(globalOptions),
                     std::make_shared<SessionSlot>(SessionSlot{std::move(opener), nullptr, {}, false}), {}) {}

CommandContext::CommandContext(std::vector<std::string> argumentList, std::ostream& outStream, std::ostream& errStream,
                               bool terminal, GlobalOptions globalOptions, std::shared_ptr<SessionSlot> slot,
                               MtxSettings mtxSettings)
    : arguments(std::move(argumentList)),
      out(outStream),
      err(errStream),
      stdoutIsTerminal(terminal),
      global(std::move(globalOptions)),
      settings(mtxSettings),
      m_slot(std::move(slot)) {}

ChangerSession* CommandContext::changer() {
    if (!m_slot->tried) {
        m_slot->tried = true;
        m_slot->session = m_slot->opener(global, m_slot->failure);
        if (!m_slot->session)
            err << "karvelctl: " << escapeText(m_slot->failure.why) << '\n';
    }
    if (m_slot->session)
        m_slot->session->setVolumeTagsWanted(!settings.noBarcode);
    return m_slot->session.get();
}

std::unique_ptr<ChangerSession> CommandContext::openChangerSessionFor(const GlobalOptions& global,
                                                                         OpenFailure& failure) {
    return openChangerSession(global.changerAddress, failure);
}

}  // namespace karvel::ctl
