// Before main: the settings file's folder, kept in the browser's IndexedDB, read back and made the
// current folder, so that the game finds zarv.cfg where it looks. Module.zarvStorage says whether
// the storage answered; without it the game plays with its defaults and nothing is kept.
Module['preRun'] = [].concat(Module['preRun'] || [], function () {
    var folder = '/zarv-settings';
    FS.mkdir(folder);
    FS.chdir(folder);
    try {
        FS.mount(IDBFS, {}, folder);
    } catch (e) {
        Module['zarvStorage'] = false;
        return;
    }
    addRunDependency('zarv-settings');
    FS.syncfs(true, function (error) {
        Module['zarvStorage'] = !error;
        removeRunDependency('zarv-settings');
    });
});
