// The installation's ini files the windows read: any bytes as "AmpDef.ini" (the amplifier
// window's definitions) and as "CAM_GETINFO.ini" (the camera tool's lists, read by the
// conditions window). A number out of range must never stop the reading (run-time error 6 is a
// finding, as is any exception that is no run-time error).
#include <cstdlib>

#include "FuzzProgram.h"
#include "FuzzTarget.h"
#include "app/channel/frmCondition.h"
#include "app/channel/frmSelectAmp.h"

QV_FUZZ_TARGET(ProgramIni) {
    qv::fuzz::Program& p = qv::fuzz::program();
    const std::string text(reinterpret_cast<const char*>(data), size);
    p.writeSaved("AmpDef.ini", text);
    p.writeSaved("CAM_GETINFO.ini", "[ALL]\r\npGraph->AddFilter(pSrc, L\"Video Capture\")=0\r\n" + text);
    qv::kernel::clearProfileCache();
    if (p.runStopsOnAFault([] {
            // The camera list keeps the names of every earlier reading (as a session does);
            // each input starts from the empty list of a freshly loaded window, so one input's
            // cost does not grow with all the names the inputs before it brought.
            qv::frmCondition& conditions = qv::frmCondition::instance();
            conditions.cmbCamera.Clear();
            conditions.InitForm();
            qv::forms::Unload(qv::frmSelectAmp::instance());
        }))
        std::abort();
    return 0;
}

QV_FUZZ_SEEDS(ProgramIni) {
    return {qv::fuzz::bytesOf("[SETTING]\r\nAMPNUM=2\r\n[AMP00]\r\nNAME=Amp A\r\nCH=1\r\nGAIN=10,100\r\n"
                              "GAINDISP=x10,x100\r\n[AMP01]\r\nNAME=Amp B\r\nCH=2\r\nGAIN=1000\r\n"),
            qv::fuzz::bytesOf("[ALL]\r\nGlCAMNum=2\r\npC->GetNumberOfCapabilities(&iCount,&iSize)=2,36\r\n"
                              "[CAMLIST]\r\nCAM0=USB Camera\r\nCAM1=Lab Cam\r\n[iFormat_0]\r\n"
                              "scc1.InputSize.cx=640\r\nscc1.InputSize.cy=480\r\n[iFormat_1]\r\n"
                              "scc1.InputSize.cx=1280\r\nscc1.InputSize.cy=720\r\n")};
}
