#include "ctl/ctl_doctor.h"

#include <sstream>

#include "ctl/console_host.h"
#include "ctl/console_loop.h"
#include "ctl/console_questions.h"
#include "ctl/ctl_texts.h"
#include "ctl/port_event_queue.h"
#include "link/controller_link.h"
#include "link/controller_port_adapter.h"
#include "link/discovery/connection_diagnosis.h"
#include "link/discovery/port_scanner.h"
#include "link/serial/device_name.h"

namespace zentrik {

int RunDoctor(AppSettings& settings, CPortScanner& scanner, const CtlConsole& console) {
    PortEventQueue events;
    if (!events.Ok()) {
        console.err << ctl_texts::kProgramName << ": cannot create an event queue" << std::endl;
        return kCtlExitFailed;
    }
    // The link's own boxes (a time-out's, the port's) are not shown: the finding says it all,
    // and every question is answered as a script would (Abort, No).
    std::ostream quiet(nullptr);
    std::istringstream noAnswers;
    ConsoleLoop loop(events);
    ConsoleQuestions questions(false, false, noAnswers, quiet);
    ConsoleHost host(loop, questions, quiet, quiet);
    ControllerPortAdapter port;
    ControllerLink link(host, port, settings, &events);
    loop.SetLink(&link);
    struct Closer {
        ControllerLink& link;
        ConsoleLoop& loop;
        ~Closer() {
            link.ClosePort();
            loop.SetLink(nullptr);
        }
    } closer{link, loop};

    const bool named = !settings.PortDevice.empty() || !PortOverride().empty();
    std::string device;
    if (named || scanner.FindController(settings)) {
        link.OpenControllerPort(true);
        device = link.PortDevice();
    }
    LinkAnswer answer = LinkAnswer::NotAsked;
    std::string info;
    if (link.IsPortOpen()) {
        const int before = host.InfoBoxes();
        link.QueueRequest(RequestType::ControllerInfo);
        loop.RunUntil([&link] { return link.QueueLength() == 0 && !link.requestInFlight(); });
        answer = host.InfoBoxes() > before && link.LastControllerInfo() ? LinkAnswer::Answered
                                                                        : LinkAnswer::Silent;
        if (answer == LinkAnswer::Answered) {
            info = ControllerInfoText(*link.LastControllerInfo());
        }
    }
    const ConnectionDiagnosis diagnosis = DiagnoseConnection(
        GatherConnectionFacts(device, named, link.LastOpenError(), answer, info));
    console.out << diagnosis.text << std::endl;
    return diagnosis.which == ConnectionCase::Connected ? kCtlExitOk : kCtlExitFailed;
}

}  // namespace zentrik
