# The program's default for the workgroup lookup: a settings file laid out as the user's own
# ("VB and VBA Program Settings/zrb.ini.conf") whose one value names FOLDER, quoted as QSettings
# reads it. Used when configuring (the build folder's defaults) and when installing.
function(tallowmere_write_lookup_defaults defaults_dir folder)
    string(REPLACE "\\" "\\\\" folder "${folder}")
    string(REPLACE "\"" "\\\"" folder "${folder}")
    file(CONFIGURE OUTPUT "${defaults_dir}/VB and VBA Program Settings/zrb.ini.conf"
         CONTENT "[OptionsDataFile]\nVeltraneSystemPath=\"${folder}\"\n")
endfunction()
