// Checks .gltf and .glb files (or every such file in the folders given) with the Khronos glTF Validator.
// Exits 1 when any file has an error or a warning, 2 when the validator is not installed.
'use strict';
const fs = require('fs');
const path = require('path');

let validator;
try {
    validator = require('gltf-validator');
} catch (e) {
    console.error('gltf-validator is missing: run "npm ci" in ' + __dirname);
    process.exit(2);
}

function filesOf(args) {
    const out = [];
    for (const arg of args) {
        if (fs.statSync(arg).isDirectory()) {
            for (const name of fs.readdirSync(arg).sort())
                if (/\.(gltf|glb)$/i.test(name)) out.push(path.join(arg, name));
        } else {
            out.push(arg);
        }
    }
    return out;
}

async function check(file) {
    const report = await validator.validateBytes(new Uint8Array(fs.readFileSync(file)), {
        uri: path.basename(file),
        maxIssues: 100,
        externalResourceFunction: (uri) =>
            new Promise((resolve, reject) => {
                fs.readFile(path.join(path.dirname(file), decodeURIComponent(uri)), (err, data) =>
                    err ? reject(err.toString()) : resolve(new Uint8Array(data)));
            }),
    });
    const issues = report.issues;
    console.log(`${file}: ${issues.numErrors} errors, ${issues.numWarnings} warnings, ${issues.numInfos} infos`);
    for (const m of issues.messages)
        if (m.severity <= 1) console.log(`  ${m.severity === 0 ? 'error' : 'warning'} ${m.code} ${m.pointer || ''}: ${m.message}`);
    return issues.numErrors + issues.numWarnings === 0;
}

(async () => {
    const files = filesOf(process.argv.slice(2));
    if (files.length === 0) {
        console.error('no .gltf or .glb files given');
        process.exit(1);
    }
    let ok = true;
    for (const file of files) ok = (await check(file)) && ok;
    process.exit(ok ? 0 : 1);
})();
