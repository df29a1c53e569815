; The demo payload as an NSIS installer, for comparison: the same 28 files to the same places as
; INSTALL.EXE (SKY32V3C.DLL to the system folder). Built by bench/run.sh with
;   makensis -DPAYLOAD=<folder of the 28 files> -DOUTFILE=<installer.exe> vorelle.nsi
Unicode false
Name "Vorelle 2000"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\Vorelle NSIS"
RequestExecutionLevel user
ShowInstDetails nevershow

Page directory
Page instfiles

Section
    SetOutPath "$INSTDIR"
    File "${PAYLOAD}/VR2000.EXE"
    File "${PAYLOAD}/VPREVIEW.EXE"
    File "${PAYLOAD}/VR2000.HLP"
    File "${PAYLOAD}/VR2000.CNT"
    File "${PAYLOAD}/UNINST.EXE"
    File "${PAYLOAD}/*.VT2"
    SetOutPath "$SYSDIR"
    File "${PAYLOAD}/SKY32V3C.DLL"
SectionEnd
